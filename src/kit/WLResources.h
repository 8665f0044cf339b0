#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The application's own resources (pictures, pages), as opposed to the
// dictionary bundle's: compiled into the program under one resource
// folder.
namespace WLResources {

// The resource folder, ":/wlreader" unless the program sets another.
QString resourcePath();
void setResourcePath(const QString &path);

// The path of a resource by its file name ("About.png"), empty when the
// program has no such resource.
QString pathForResource(const QString &name);
// A URL the views can load: a resource of the program, else a file (an
// absolute path, such as a picture of the dictionary); empty for nothing.
QString imageURLNamed(const QString &name);
std::optional<QByteArray> dataForResource(const QString &name);

} // namespace WLResources
