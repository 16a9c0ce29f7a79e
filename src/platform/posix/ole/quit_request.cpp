#include <quillet/quit_request.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t quitPosted = 0;

}  // namespace

void QuilletPostQuit() { quitPosted = 1; }

int QuilletQuitPosted() { return quitPosted; }
