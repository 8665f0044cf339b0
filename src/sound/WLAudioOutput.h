#pragma once

#include <QObject>

#include <memory>
#include <vector>

struct WLSoundSamples;

// The sound card, as far as entry sounds need it: plays decoded samples
// and forgets each play when it has ended. Without an audio device (a
// server, a test machine) it reports once and plays nothing; it never
// waits for the device.
//
// Threading: main thread only.
class WLAudioOutput : public QObject
{
    Q_OBJECT

public:
    // Plays sounding at once beyond this end the oldest.
    static constexpr std::size_t kMaxPlays = 8;

    // The one output, made on first use with the application object as
    // its parent; nothing without an application object.
    static WLAudioOutput *sharedOutput();

    ~WLAudioOutput() override;

    // True when the samples started playing.
    bool play(std::shared_ptr<const WLSoundSamples> samples);
    std::size_t playCount() const { return mPlays.size(); }

private:
    struct Play;

    explicit WLAudioOutput(QObject *parent);
    void finish(quint64 serial);

    std::vector<std::unique_ptr<Play>> mPlays;
    quint64 mLastSerial = 0;
    bool mReportedNoDevice = false;
};
