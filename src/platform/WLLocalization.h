#pragma once

#include <QString>

// User-visible texts are looked up by key (Qt's id-based translation); a
// key without a text shows the key itself. The English texts ship with the
// program; install() loads them, and the texts of the user's language over
// them when there are any.
namespace WLLocalization {

// Loads the translations into the application object; call once after it
// exists, on the main thread. False when not even the English texts loaded.
bool install();

// The text of a key.
QString localizedString(const char *key);

} // namespace WLLocalization
