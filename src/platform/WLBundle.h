#pragma once

#include <QString>

// The resource directory: the dictionary bundle folder. Every file name of
// the description is relative to it. Set once at start-up, before a
// dictionary is opened; read on the main thread.
namespace WLBundle {

QString resourcePath();
void setResourcePath(const QString &path);

// Joins a name to the resource directory as path components (so an
// absolute name stays inside it); empty without a resource directory.
QString pathForResource(const QString &name);

// The bundle to use when none is given: $WL_DICTIONARY, else the demo
// bundle found from the running program's folder: installed beside it in
// ../share/wlreader/dictionaries/demo, else the one its build tree made
// (../../dictionaries/demo). Empty when there is none.
QString defaultBundlePath();
QString defaultBundlePath(const QString &applicationDirectory);

// The folder of the running program, also before the application object
// exists.
QString applicationDirectory();

} // namespace WLBundle
