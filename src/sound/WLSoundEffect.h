#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Decoded samples of a sound: signed 16-bit, interleaved.
struct WLSoundSamples {
    QByteArray data;
    int sampleRate = 0;
    int channelCount = 0;
};

// A short sound read from a file (AIFF, WAV, FLAC, Ogg Vorbis, MP3 and
// whatever else libsndfile reads), decoded once and played as often as asked. Plays are
// neither queued nor stopped: a second play mixes with the first.
//
// Threading: main thread only.
class WLSoundEffect
{
public:
    // Decoded samples beyond this are not kept: a sound effect is short.
    static constexpr qsizetype kMaxDecodedBytes = 64 * 1024 * 1024;

    // Nothing (after the report) when the file cannot be read as a sound.
    static std::unique_ptr<WLSoundEffect> initWithContentsOfFile(const QString &path);

    // Plays without waiting for the sound to end; without an audio device
    // it says so once per run and plays nothing.
    void play() const;
    // Exactly this path (string equality).
    bool isEqualToFileAtPath(const QString &path) const { return mPath == path; }

    QString path() const { return mPath; }
    const WLSoundSamples &samples() const { return *mSound; }

private:
    WLSoundEffect(QString path, std::shared_ptr<const WLSoundSamples> sound)
        : mPath(std::move(path)), mSound(std::move(sound))
    {
    }

    QString mPath;
    // Shared with the plays still sounding, which may outlive the effect.
    std::shared_ptr<const WLSoundSamples> mSound;
};
