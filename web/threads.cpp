// Every thread of the page's program starts with cancellation off. Nothing
// here ever cancels a thread, and emscripten's cancellable waits (every
// condition variable wait) wake every 100 ms to look for a cancellation:
// a handful of idle threads would keep waking a phone ten times a second
// each. With cancellation off a wait rests in Atomics.wait until it is due.
// Linked with --wrap=pthread_create (web/build.cmake), so std::thread and
// emscripten's own main thread start here too.
#include <pthread.h>

#include <cerrno>
#include <new>

extern "C" int __real_pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*routine)(void*),
                                     void* arg);

namespace {

struct Start {
  void* (*routine)(void*);
  void* arg;
};

void* StartUncancellable(void* p) {
  Start start = *static_cast<Start*>(p);
  delete static_cast<Start*>(p);
  pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
  return start.routine(start.arg);
}

}  // namespace

extern "C" int __wrap_pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*routine)(void*),
                                     void* arg) {
  auto* start = new (std::nothrow) Start{routine, arg};
  if (start == nullptr) return EAGAIN;
  int result = __real_pthread_create(thread, attr, StartUncancellable, start);
  if (result != 0) delete start;
  return result;
}
