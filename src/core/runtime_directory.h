#pragma once

namespace marrowick {

// The toolkit wants a private runtime directory (XDG_RUNTIME_DIR) and, where
// the login gives none (containers, SSH, su), warns on standard error at
// every start before making one of its own. Makes that directory quietly
// instead: "runtime-UID" in the temporary directory, private to the user. A
// directory that is not the user's own and private is left alone, and the
// toolkit then says so.
void ProvideRuntimeDirectory();

}  // namespace marrowick
