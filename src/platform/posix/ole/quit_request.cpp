#include <quillet/quit_request.h>

#include <csignal>

namespace {

// Written from a signal handler: sig_atomic_t is the one type such a
// handler may write and the program then read. Once set it stays set, as
// a WM_QUIT stays in the queue for the loop that owns it.
volatile std::sig_atomic_t quitPosted = 0;

}  // namespace

void QuilletPostQuit() { quitPosted = 1; }

int QuilletQuitPosted() { return quitPosted; }
