// The stand-in, off Windows, for the one thing of an application's message
// queue that a plug-in's work loop needs: whether the application has been
// asked to quit. On Windows that is the WM_QUIT the message pump meets;
// here the host posts the request (from a signal handler, so posting is
// async-signal-safe) and the module's message pump reports it. Both live in
// quillet_oleaut, the library the module and every host share.
#pragma once

#ifndef _WIN32

#include <quillet/ole.h>

QUILLET_OLEAUT_API void QuilletPostQuit();
// Nonzero once QuilletPostQuit was called.
QUILLET_OLEAUT_API int QuilletQuitPosted();

#endif
