#include "integrity/packet_texts.h"

std::u16string FailFileUpdateText() { return u"The file could not be updated."; }

std::u16string WrongPacketHashText() { return u"Wrong paket hash."; }
