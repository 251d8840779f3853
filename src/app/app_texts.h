// The application's own user texts, by their key in the localised text table.
#ifndef APP_APP_TEXTS_H
#define APP_APP_TEXTS_H

#include <string>

// English for every language until the text table exists; an unknown key gives the key.
std::u16string AppText(const char* key, const char* language);

#endif  // APP_APP_TEXTS_H
