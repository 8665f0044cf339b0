#pragma once

#include <QStringList>

class WLCliContext;
class WLCommand;

// "wldict build --from-stardict [OPTIONS] NAME.ifo OUTDIR": the import
// into a temporary source folder beside OUTDIR, then the build. Lives with
// import-stardict, which shares its options; command is the one whose
// usage line a wrong call shows.
int wlBuildFromStarDict(WLCliContext &context, const WLCommand &command,
                        const QStringList &arguments);
