#pragma once
// The Firebird engine of this process (the client library, with its embedded
// engine for plain paths).

namespace db {

// Shuts the engine down: every attachment still open is cut and the engine's
// threads stop. Call it once at program end, after the last Connection is closed;
// nothing may use the database afterwards. It also runs by itself at process exit
// (registered when the engine is first used), so calling it is only needed where
// the program ends without running exit handlers. Calling it again does nothing.
void ShutdownEngine();

}  // namespace db
