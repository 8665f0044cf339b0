#include "WLSoundEffect.h"

#include "WLAudioOutput.h"
#include "WLReport.h"

#include <QFile>
#include <QUrl>

#include <sndfile.h>

namespace {

constexpr char kInitFn[] = "-[WLSoundEffect initWithContentsOfFile:]";
constexpr int kMaxChannels = 8;
constexpr sf_count_t kFramesPerRead = 4096;

struct SndFileCloser {
    void operator()(SNDFILE *file) const { sf_close(file); }
};
using SndFile = std::unique_ptr<SNDFILE, SndFileCloser>;

// The whole file as 16-bit samples; nothing when libsndfile cannot read it
// or it is not a sound of sensible shape and length.
std::shared_ptr<WLSoundSamples> decode(const QString &path)
{
    SF_INFO info{};
    SndFile file(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file || info.channels < 1 || info.channels > kMaxChannels || info.samplerate <= 0)
        return nullptr;
    auto samples = std::make_shared<WLSoundSamples>();
    samples->sampleRate = info.samplerate;
    samples->channelCount = info.channels;
    const qsizetype frameBytes = qsizetype(sizeof(short)) * info.channels;
    // The header's frame count may lie; read until the data ends.
    for (;;) {
        const qsizetype used = samples->data.size();
        if (used + kFramesPerRead * frameBytes > WLSoundEffect::kMaxDecodedBytes)
            return nullptr;
        samples->data.resize(used + kFramesPerRead * frameBytes);
        const sf_count_t frames = sf_readf_short(
            file.get(), reinterpret_cast<short *>(samples->data.data() + used), kFramesPerRead);
        samples->data.resize(used + qsizetype(qMax<sf_count_t>(frames, 0)) * frameBytes);
        if (frames < kFramesPerRead)
            break;
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR || samples->data.isEmpty())
        return nullptr;
    samples->data.squeeze();
    return samples;
}

} // namespace

std::unique_ptr<WLSoundEffect> WLSoundEffect::initWithContentsOfFile(const QString &path)
{
    if (path.isEmpty()) {
        WL_REPORT(kInitFn, "mPath == nil");
        return nullptr;
    }
    if (!QUrl::fromLocalFile(path).isValid()) {
        WL_REPORT(kInitFn, "fileURL == nil");
        return nullptr;
    }
    std::shared_ptr<WLSoundSamples> sound = decode(path);
    if (!sound) {
        WL_REPORT(kInitFn, "err != noErr");
        return nullptr;
    }
    return std::unique_ptr<WLSoundEffect>(new WLSoundEffect(path, std::move(sound)));
}

void WLSoundEffect::play() const
{
    if (WLAudioOutput *output = WLAudioOutput::sharedOutput())
        output->play(mSound);
}
