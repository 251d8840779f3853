// The publisher tool's key commands: making a key pair, sealing a version file with the
// private key and opening it again the way the updater does.
#ifndef TOOLS_PUBLISH_KEYS_H
#define TOOLS_PUBLISH_KEYS_H

#include <string>
#include <vector>

// Each takes the words after its sub-command word and returns the process exit code.
// keygen [--bits N] --out NAME: NAME gets the PEM private key, NAME.pub the OpenSSH line.
int KeygenCommand(const std::vector<std::string>& args);
// seal --key NAME --in version.txt --out FILE.txt.bin
int SealCommand(const std::vector<std::string>& args);
// unseal --pub NAME.pub --in FILE: prints the version text.
int UnsealCommand(const std::vector<std::string>& args);

#endif  // TOOLS_PUBLISH_KEYS_H
