// The public key built into the program: the base64 blob of the OpenSSH "ssh-rsa" line that
// the build was configured with.
#ifndef INTEGRITY_BUILT_IN_KEY_H
#define INTEGRITY_BUILT_IN_KEY_H

extern const char kBuiltInPublicKey[];

#endif  // INTEGRITY_BUILT_IN_KEY_H
