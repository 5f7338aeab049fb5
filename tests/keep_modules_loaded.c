/* keep_modules_loaded: preloaded into the real-window tests of the sanitizer build, so that no
 * shared library is ever unloaded before the process ends.
 *
 * SDL opens the OpenGL stack (libGL, libGLX_mesa and Mesa's swrast_dri.so on a headless X
 * server) for its renderer and closes it again when the window goes. Mesa keeps a few
 * allocations for the life of its module; once the module is unloaded, LeakSanitizer finds
 * them unreachable and can no longer even name the module they came from, so no suppression
 * can be written for them. With every module kept, what those libraries keep is still
 * reachable at exit and the leak check stays on for the engine's own memory.
 *
 * Built without sanitizers: it is also preloaded into the tools the tests start (the shell,
 * xdotool), which must run as they always do. */
int dlclose(void *handle) {
  (void)handle;
  return 0;
}

/* The sanitizer runtime insists on being the first library of an instrumented program and
 * would stop at start-up with this one ahead of it. Its defaults come from this function when
 * a program defines it; ASAN_OPTIONS still overrides them. */
const char *__asan_default_options(void) { return "verify_asan_link_order=0"; }
