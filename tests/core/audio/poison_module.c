/* A stand-in for the audio module that ends the process with code 97 as soon as it is loaded:
   a run that must not load the module proves it did not by ending normally. */
#include <unistd.h>

__attribute__((constructor)) static void EndOnLoad(void) {
    _exit(97);
}
