// The user-facing texts of packet installation that the localised text table will provide;
// English until that table exists.
#ifndef INTEGRITY_PACKET_TEXTS_H
#define INTEGRITY_PACKET_TEXTS_H

#include <string>

std::u16string FailFileUpdateText();
std::u16string WrongPacketHashText();

#endif  // INTEGRITY_PACKET_TEXTS_H
