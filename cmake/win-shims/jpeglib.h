// MinGW only. JUCE includes <jpeglib.h> inside its own namespace and then says
// `using jpeglibNamespace::boolean;`, expecting its bundled copy of the library, which
// Debian's JUCE leaves out. libjpeg-turbo's Windows jconfig.h skips its `boolean` typedef
// when <rpcndr.h> (read through <windows.h>) came first, so the namespace would have none.
// The same type jconfig.h would have used keeps the library's ABI.
#if defined (__MINGW32__) && defined (__RPCNDR_H__)
typedef unsigned char boolean;
#endif
#include_next <jpeglib.h>
