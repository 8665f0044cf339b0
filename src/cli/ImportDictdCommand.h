#pragma once

#include <QStringList>

class WLCliContext;
class WLCommand;

// "wldict build --from-dictd [OPTIONS] NAME.index NAME.dict[.dz] OUTDIR":
// the import into a temporary source folder, then the build. Lives with
// import-dictd, which shares its options; command is the one whose usage
// line a wrong call shows.
int wlBuildFromDictd(WLCliContext &context, const WLCommand &command, const QStringList &arguments);
