#include "WLAudioOutput.h"

#include "WLReport.h"
#include "WLSoundEffect.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>

namespace {
constexpr char kPlayFn[] = "-[WLSoundEffect play]";
QPointer<WLAudioOutput> gSharedOutput;
} // namespace

// One sound on its way to the device: the samples it reads and the sink.
struct WLAudioOutput::Play {
    quint64 serial = 0;
    std::shared_ptr<const WLSoundSamples> samples;
    QBuffer buffer;
    std::unique_ptr<QAudioSink> sink;
};

WLAudioOutput *WLAudioOutput::sharedOutput()
{
    if (!gSharedOutput && QCoreApplication::instance())
        gSharedOutput = new WLAudioOutput(QCoreApplication::instance());
    return gSharedOutput;
}

WLAudioOutput::WLAudioOutput(QObject *parent) : QObject(parent) {}

WLAudioOutput::~WLAudioOutput()
{
    // The sinks go before the buffers they read.
    for (const std::unique_ptr<Play> &play : mPlays)
        play->sink.reset();
}

bool WLAudioOutput::play(std::shared_ptr<const WLSoundSamples> samples)
{
    if (!samples || samples->data.isEmpty())
        return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        // Once a run: a machine without sound says so and goes on.
        if (!mReportedNoDevice)
            WL_REPORT(kPlayFn, "audioDevice == nil");
        mReportedNoDevice = true;
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(samples->sampleRate);
    format.setChannelCount(samples->channelCount);
    format.setSampleFormat(QAudioFormat::Int16);

    auto play = std::make_unique<Play>();
    // A serial, not the address: a play ended early may be followed by a
    // new one at the same place.
    play->serial = ++mLastSerial;
    play->samples = std::move(samples);
    play->buffer.setData(play->samples->data);
    play->buffer.open(QIODevice::ReadOnly);
    play->sink = std::make_unique<QAudioSink>(device, format);
    const quint64 serial = play->serial;
    connect(play->sink.get(), &QAudioSink::stateChanged, this, [this, serial](QAudio::State state) {
        // Not from inside the sink's own signal.
        if (state == QAudio::IdleState || state == QAudio::StoppedState)
            QMetaObject::invokeMethod(this, [this, serial] { finish(serial); }, Qt::QueuedConnection);
    });
    play->sink->start(&play->buffer);
    if (play->sink->error() != QAudio::NoError) {
        WL_REPORT(kPlayFn, "sink.error != NoError");
        return false;
    }
    if (mPlays.size() >= kMaxPlays)
        mPlays.erase(mPlays.begin());
    mPlays.push_back(std::move(play));
    return true;
}

void WLAudioOutput::finish(quint64 serial)
{
    std::erase_if(mPlays, [serial](const std::unique_ptr<Play> &each) { return each->serial == serial; });
}
