// Linked into every test executable: dlclose() does nothing, so every shared
// library a test loads stays mapped until the process ends.
//
// Why: the leak checker reports after Qt has closed the X display, and by then
// the GL client libraries (libGLX_mesa unloads Mesa's driver, QtDBus unloads
// libdbus) are gone. A leak they made keeps its allocation stack, but the fast
// unwinder records only the first frames and their addresses now point into
// nothing, or into whatever module was mapped there later, so no suppression
// line can name the library and a harmless system allocation fails the test on
// one machine and not on another. With the libraries kept in place every frame
// names its real module and the narrow suppressions in scripts/lsan.supp match.
//
// The alternatives cost more or check less: full unwinding on every malloc
// (fast_unwind_on_malloc=0) makes the suite about seven times slower, and
// suppressing reports without a module name would hide our own leaks.
// Nothing in the tests relies on a library being unloaded.
extern "C" int dlclose(void*)
{
    return 0;
}
