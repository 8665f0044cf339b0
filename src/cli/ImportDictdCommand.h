#pragma once

#include <QJsonObject>
#include <QStringList>

class WLCliContext;
class WLCommand;

// "wldict build --from-dictd [OPTIONS] NAME.index NAME.dict[.dz] OUTDIR":
// the import into a temporary source folder, then the build. Lives with
// import-dictd, which shares its options; command is the one whose usage
// line a wrong call shows.
int wlBuildFromDictd(WLCliContext &context, const WLCommand &command, const QStringList &arguments);

// Builds source into output with progress on a terminal (unless quiet) and
// the summary after: a line on standard error, or with --json, summary
// completed on standard output. Lives with build.
int wlRunBuild(WLCliContext &context, const QString &source, const QString &output, bool quiet,
               QJsonObject summary);
