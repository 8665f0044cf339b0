#include "WLDictionaryAdding.h"

#include "WLAlertView.h"
#include "WLDictionaryHost.h"
#include "WLLocalization.h"
#include "WLProgressViewController.h"

namespace {

// What the user reads of wldict's phases ("reading sample.idx", "writing
// contents.db"): what is being done, not the files it is done with.
QString stepOf(const QString &phase)
{
    const auto is = [&phase](const char *prefix) { return phase.startsWith(QLatin1String(prefix)); };
    const char *key = "Dictionaries.Step.Starting";
    if (is("installing") || is("moving"))
        key = "Dictionaries.Step.Installing";
    else if (is("copying"))
        key = "Dictionaries.Step.Media";
    else if (is("ordering") || is("reading headwords") || phase.contains(QLatin1String("entries.jsonl")))
        key = "Dictionaries.Step.Sorting";
    else if (is("writing"))
        key = "Dictionaries.Step.Writing";
    else if (is("reading") || is("inflating"))
        key = "Dictionaries.Step.Reading";
    return WLLocalization::localizedString(key);
}

} // namespace

void WLDictionaryAdding::add(const QString &path, WLViewController *presenter)
{
    if (!presenter || mAdder.isRunning())
        return;
    mPresenter = presenter;
    QString why;
    const std::optional<WLDictionaryAdder::Source> source = WLDictionaryAdder::identify(path, &why);
    if (!source) {
        tell(why);
        return;
    }
    mProgress = new WLProgressViewController(
        WLLocalization::localizedString("Dictionaries.Adding").arg(source->name), [this] { mAdder.cancel(); },
        presenter);
    presenter->presentModalViewController(mProgress, false);
    mAdder.start(
        *source,
        [this](const WLDictionaryAdder::Progress &progress) {
            if (mProgress)
                mProgress->setProgress(stepOf(progress.phase), progress.done, progress.total);
        },
        [this](const WLDictionaryAdder::Result &result) { finished(result); });
}

void WLDictionaryAdding::finished(const WLDictionaryAdder::Result &result)
{
    if (mProgress) {
        mProgress->dismissModalViewControllerAnimated(false);
        mProgress->deleteLater();
    }
    if (result.ok) {
        if (mHost)
            mHost->openDictionary(result.path);
        return;
    }
    if (!result.cancelled)
        tell(result.error);
}

void WLDictionaryAdding::tell(const QString &message)
{
    if (!mPresenter)
        return;
    (new WLAlertView(WLLocalization::localizedString("Dictionaries.NotAdded"), message,
                     {WLLocalization::localizedString("OK")}, 0, {}))
        ->show(mPresenter);
}
