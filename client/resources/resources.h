#pragma once

namespace OrvantaClient {

// Registers the compiled-in resources (fonts, translations, icons). The resources
// live in a static library, whose own static initialiser the linker may drop, so
// the application registers them explicitly. Calling it more than once is harmless.
void registerResources();

} // namespace OrvantaClient
