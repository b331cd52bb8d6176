/* Press-to-sound timing from outside the program: presses a point of the
 * program's window through XTest and finds each press's sound in a recording
 * of the default sink's monitor.
 *
 * Every recorded frame needs a time on CLOCK_MONOTONIC. Through PipeWire
 * (--recorder pipewire) each buffer carries its graph cycle's time. Through
 * PulseAudio the recording is placed by clicks this probe plays itself before
 * and after the presses: for each, the server predicts when its first sample
 * is played (the stream's latency as it is written), the click is found in
 * the recording, and a straight line through those pairs (the sink's clock
 * may run a little off the system's) maps frames to times; its worst miss is
 * printed so a bad calibration shows.
 *
 *   latency_probe [--recorder pipewire|pulseaudio] --x X --y Y [--pairs N]
 *                 [--window NAME] [--gap-ms MS] [--quiet-ms MS]
 *                 [--settle-ms MS] [--threshold T] [--clicks N]
 *   latency_probe [--recorder ...] --load SECONDS --slots "X,Y X,Y ..."
 *   latency_probe --write-wav FILE
 *
 * --load presses the slots in turn, each once every 100 ms, for SECONDS, and
 * counts the dropouts the recording shows meanwhile: 2 ms with nothing at
 * all, while at least one sound always plays. A late fill by the program's
 * side or an underrun in the server both sound like that.
 *
 * X and Y are in the window. Presses come in pairs: the first with the
 * program silent (after --quiet-ms of nothing), the second --gap-ms later
 * while the first press's sound still plays. The sound must start with an
 * edge above --threshold and stay well below it afterwards, as the one
 * --write-wav writes does: a 5 ms edge at 0.8 of full scale, then 400 ms of
 * soft noise within 0.02, 48 kHz 16-bit mono. Output: a "press" line per press, a
 * "summary" line per kind, "missed" for a press whose sound was not found
 * (then the exit status is 1), and "early" for one whose sound seems to
 * start before it: the recording's times are off there, and it is left out.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <math.h>
#include <pipewire/pipewire.h>
#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <spa/param/audio/format-utils.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kRate = 48000, kMaxPresses = 512, kMaxClicks = 64 };

static double NowUs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

static void SleepMs(double ms) {
  struct timespec ts = {(time_t)(ms / 1000), (long)(fmod(ms, 1000) * 1e6)};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

static void Die(const char* what) {
  fprintf(stderr, "latency_probe: %s\n", what);
  exit(2);
}

/* ---- the recording: peak of both channels, one value a frame ---- */

static pa_threaded_mainloop* loop;
static pa_context* context;
static float* recorded;
static size_t recordedFrames, recordedCapacity;
static pthread_mutex_t recordedLock = PTHREAD_MUTEX_INITIALIZER;

static size_t RecordedFrames(void) {
  pthread_mutex_lock(&recordedLock);
  size_t n = recordedFrames;
  pthread_mutex_unlock(&recordedLock);
  return n;
}

/* Caller holds recordedLock. */
static void Append(const float* frames, size_t count) {
  if (recordedFrames + count > recordedCapacity) {
    recordedCapacity = (recordedFrames + count) * 2;
    recorded = realloc(recorded, recordedCapacity * sizeof(float));
    if (recorded == NULL) Die("out of memory");
  }
  for (size_t i = 0; i < count; ++i) {
    float l = frames ? fabsf(frames[2 * i]) : 0, r = frames ? fabsf(frames[2 * i + 1]) : 0;
    recorded[recordedFrames++] = l > r ? l : r;
  }
}

/* The recorder runs at the servers' real-time priority, as a recording
 * program would on a desktop, so that its own lateness under load is not
 * mistaken for the program's. Refused, it records as it is. */
static void RaiseOnce(void) {
  static __thread int raised;
  if (raised) return;
  raised = 1;
  struct sched_param param = {.sched_priority = 20};
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

static void OnRead(pa_stream* s, size_t bytes, void* user) {
  (void)bytes;
  (void)user;
  RaiseOnce();

  const void* data;
  size_t n;
  while (pa_stream_readable_size(s) > 0) {
    if (pa_stream_peek(s, &data, &n) < 0 || n == 0) return;
    pthread_mutex_lock(&recordedLock);
    Append(data, n / (2 * sizeof(float)));  /* a hole counts as silence */
    pthread_mutex_unlock(&recordedLock);
    pa_stream_drop(s);
  }
}

static void OnContextState(pa_context* c, void* user) {
  (void)c;
  (void)user;
  pa_threaded_mainloop_signal(loop, 0);
}

static void OnStreamState(pa_stream* s, void* user) {
  (void)s;
  (void)user;
  pa_threaded_mainloop_signal(loop, 0);
}

static void OnSuccess(pa_stream* s, int ok, void* user) {
  (void)s;
  (void)ok;
  *(int*)user = 1;
  pa_threaded_mainloop_signal(loop, 0);
}

static void WaitReady(pa_stream* s) {
  for (;;) {
    pa_stream_state_t state = pa_stream_get_state(s);
    if (state == PA_STREAM_READY) return;
    if (!PA_STREAM_IS_GOOD(state)) Die(pa_strerror(pa_context_errno(context)));
    pa_threaded_mainloop_wait(loop);
  }
}

static pa_sample_spec StreamFormat(void) {
  pa_sample_spec format = {PA_SAMPLE_FLOAT32NE, kRate, 2};
  return format;
}

static pa_stream* StartRecording(void) {
  pa_sample_spec format = StreamFormat();
  pa_stream* s = pa_stream_new(context, "latency probe recorder", &format, NULL);
  /* Large fragments: a small one would pull the sink's latency down and
   * flatter the program. Timing comes from the clicks, not from reads. */
  pa_buffer_attr attr = {(uint32_t)-1, (uint32_t)-1, (uint32_t)-1, (uint32_t)-1,
                         (uint32_t)pa_usec_to_bytes(50000, &format)};
  pa_stream_set_read_callback(s, OnRead, NULL);
  pa_stream_set_state_callback(s, OnStreamState, NULL);
  if (pa_stream_connect_record(s, "@DEFAULT_MONITOR@", &attr, PA_STREAM_NOFLAGS) < 0)
    Die(pa_strerror(pa_context_errno(context)));
  WaitReady(s);
  return s;
}

/* ---- the recording through PipeWire: each buffer stamped with its cycle ---- */

static struct pw_thread_loop* pwLoop;
static struct pw_stream* pwStream;
static size_t* cycleFrame;  /* first frame of each buffer */
static double* cycleUs;     /* its graph cycle's time */
static size_t cycles, cycleCapacity;

static void OnProcess(void* user) {
  (void)user;
  RaiseOnce();
  struct pw_buffer* b = pw_stream_dequeue_buffer(pwStream);
  if (b == NULL) return;
  struct spa_data* d = &b->buffer->datas[0];
  struct pw_time t;
  pw_stream_get_time_n(pwStream, &t, sizeof t);
  if (d->data != NULL && d->chunk->size > 0) {
    pthread_mutex_lock(&recordedLock);
    if (cycles == cycleCapacity) {
      cycleCapacity = cycleCapacity ? 2 * cycleCapacity : 4096;
      cycleFrame = realloc(cycleFrame, cycleCapacity * sizeof *cycleFrame);
      cycleUs = realloc(cycleUs, cycleCapacity * sizeof *cycleUs);
      if (cycleFrame == NULL || cycleUs == NULL) Die("out of memory");
    }
    cycleFrame[cycles] = recordedFrames;
    cycleUs[cycles++] = t.now / 1e3;
    Append((const float*)((const char*)d->data + d->chunk->offset), d->chunk->size / (2 * sizeof(float)));
    pthread_mutex_unlock(&recordedLock);
  }
  pw_stream_queue_buffer(pwStream, b);
}

static const struct pw_stream_events kStreamEvents = {PW_VERSION_STREAM_EVENTS, .process = OnProcess};

static void StartPipeWireRecording(void) {
  pw_init(NULL, NULL);
  pwLoop = pw_thread_loop_new("probe", NULL);
  struct pw_properties* props =
      pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_MEDIA_ROLE, "Production",
                        PW_KEY_STREAM_CAPTURE_SINK, "true", NULL);
  pwStream = pw_stream_new_simple(pw_thread_loop_get_loop(pwLoop), "latency probe recorder", props, &kStreamEvents,
                                  NULL);
  uint8_t buffer[1024];
  struct spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
  struct spa_audio_info_raw info = {.format = SPA_AUDIO_FORMAT_F32, .rate = kRate, .channels = 2};
  const struct spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
  pw_thread_loop_lock(pwLoop);
  if (pw_thread_loop_start(pwLoop) < 0 ||
      pw_stream_connect(pwStream, PW_DIRECTION_INPUT, PW_ID_ANY,
                        PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS, params,
                        1) < 0)
    Die("cannot record through PipeWire");
  pw_thread_loop_unlock(pwLoop);
}

static void StopPipeWireRecording(void) {
  pw_thread_loop_lock(pwLoop);
  pw_stream_disconnect(pwStream);
  pw_stream_destroy(pwStream);
  pw_thread_loop_unlock(pwLoop);
  pw_thread_loop_stop(pwLoop);
  pw_thread_loop_destroy(pwLoop);
}

/* The time of a recorded frame from its buffer's cycle. */
static double CycleTimeUs(size_t frame) {
  size_t lo = 0, hi = cycles;
  while (hi - lo > 1) {
    size_t mid = (lo + hi) / 2;
    if (cycleFrame[mid] <= frame) lo = mid;
    else hi = mid;
  }
  return cycleUs[lo] + (double)(frame - cycleFrame[lo]) * 1e6 / kRate;
}

/* ---- calibration clicks ---- */

static double clickPredictedUs[kMaxClicks];
static size_t clickFrameAt[kMaxClicks];  /* recorded frame count when written */
static int clickCount;

static void WriteSilence(pa_stream* s, size_t bytes, void* user) {
  (void)user;
  void* buffer;
  size_t n = bytes;
  if (pa_stream_begin_write(s, &buffer, &n) < 0) return;
  memset(buffer, 0, n);
  pa_stream_write(s, buffer, n, NULL, 0, PA_SEEK_RELATIVE);
}

/* Plays `count` clicks 300 ms apart; each is a 2 ms burst at full scale. */
static void PlayClicks(int count) {
  pa_sample_spec format = StreamFormat();
  pa_stream* s = pa_stream_new(context, "latency probe clicks", &format, NULL);
  pa_buffer_attr attr = {(uint32_t)-1, (uint32_t)pa_usec_to_bytes(40000, &format), (uint32_t)-1, (uint32_t)-1,
                         (uint32_t)-1};
  pa_stream_set_state_callback(s, OnStreamState, NULL);
  pa_stream_set_write_callback(s, WriteSilence, NULL);
  if (pa_stream_connect_playback(s, NULL, &attr, PA_STREAM_NOFLAGS,
                                 NULL, NULL) < 0)
    Die(pa_strerror(pa_context_errno(context)));
  WaitReady(s);
  pa_threaded_mainloop_unlock(loop);
  SleepMs(300);
  float click[2 * 96];
  for (int i = 0; i < 2 * 96; ++i) click[i] = 0.9f;
  for (int k = 0; k < count && clickCount < kMaxClicks; ++k) {
    pa_threaded_mainloop_lock(loop);
    int done = 0;
    pa_operation* op = pa_stream_update_timing_info(s, OnSuccess, &done);
    while (!done) pa_threaded_mainloop_wait(loop);
    pa_operation_unref(op);
    pa_usec_t latency = 0;
    int negative = 0;
    double now = NowUs();
    if (pa_stream_get_latency(s, &latency, &negative) == 0) {
      clickPredictedUs[clickCount] = now + (negative ? -(double)latency : (double)latency);
      clickFrameAt[clickCount] = RecordedFrames();
      pa_stream_write(s, click, sizeof click, NULL, 0, PA_SEEK_RELATIVE);
      ++clickCount;
    }
    pa_threaded_mainloop_unlock(loop);
    SleepMs(300);
  }
  SleepMs(200);
  pa_threaded_mainloop_lock(loop);
  pa_stream_disconnect(s);
  pa_stream_unref(s);
}

/* ---- XTest presses ---- */

static Window FindWindow(Display* d, Window w, const char* name) {
  char* title = NULL;
  if (XFetchName(d, w, &title) && title != NULL) {
    int match = strcmp(title, name) == 0;
    XFree(title);
    if (match) return w;
  }
  Window root, parent, *children = NULL;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && found == 0; ++i) found = FindWindow(d, children[i], name);
    if (children) XFree(children);
  }
  return found;
}

/* First frame at or after `from` above `threshold`; (size_t)-1 if none before `to`. */
static size_t FindEdge(size_t from, size_t to, float threshold) {
  for (size_t i = from; i < to && i < recordedFrames; ++i)
    if (recorded[i] > threshold) return i;
  return (size_t)-1;
}

/* Windows of 2 ms in [from, to) where the recording is silent. */
static int CountDropouts(size_t from, size_t to, double* longestMs) {
  const size_t window = kRate / 500;
  int dropouts = 0;
  size_t run = 0, longest = 0;
  for (size_t i = from; i < to && i < recordedFrames; ++i) {
    if (recorded[i] < 1e-5f) {
      if (++run == window) ++dropouts;
      if (run > longest) longest = run;
    } else {
      run = 0;
    }
  }
  *longestMs = longest >= window ? longest * 1000.0 / kRate : 0;
  return dropouts;
}

static double FrameUs(size_t frame, int pipewire, double offset, double usPerFrame) {
  return pipewire ? CycleTimeUs(frame) : offset + (double)frame * usPerFrame;
}

static int CompareDouble(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

static double Median(double* v, int n) {
  qsort(v, (size_t)n, sizeof *v, CompareDouble);
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

static void Summary(const char* kind, double* v, int n) {
  if (n == 0) return;
  double median = Median(v, n);
  printf("summary %s n=%d min=%.2f median=%.2f max=%.2f\n", kind, n, v[0], median, v[n - 1]);
}

static void Le(FILE* f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) fputc((int)((v >> (8 * i)) & 0xFF), f);
}

static int WriteWav(const char* path) {
  FILE* f = fopen(path, "wb");
  if (f == NULL) return 2;
  const uint32_t edge = kRate / 200, frames = edge + kRate * 2 / 5;
  fputs("RIFF", f);
  Le(f, 36 + 2 * frames, 4);
  fputs("WAVEfmt ", f);
  Le(f, 16, 4);
  Le(f, 1, 2);
  Le(f, 1, 2);
  Le(f, kRate, 4);
  Le(f, kRate * 2, 4);
  Le(f, 2, 2);
  Le(f, 16, 2);
  fputs("data", f);
  Le(f, 2 * frames, 4);
  /* Noise, not a tone: the five slots re-triggered at a steady pace would
   * put five copies of a tone in phases that cancel to silence. */
  uint32_t seed = 1;
  for (uint32_t i = 0; i < frames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    double v = i < edge ? 0.8 : 0.02 * ((seed >> 8) / 8388608.0 - 1);
    Le(f, (uint32_t)(int16_t)lrint(v * 32767), 2);
  }
  return fclose(f) == 0 ? 0 : 2;
}

/* Ends a run: the recording stopped (after `clicks` calibration clicks on
 * PulseAudio, if any), the server's loop and the display let go. */
static void EndRun(int pipewire, pa_stream* recorder, Display* display, int clicks) {
  if (pipewire) {
    StopPipeWireRecording();
  } else {
    pa_threaded_mainloop_lock(loop);
    if (clicks > 0) PlayClicks(clicks);
    pa_stream_disconnect(recorder);
    pa_stream_unref(recorder);
    pa_threaded_mainloop_unlock(loop);
  }
  pa_threaded_mainloop_stop(loop);
  pa_context_disconnect(context);
  XCloseDisplay(display);
}

int main(int argc, char** argv) {
  if (argc == 3 && !strcmp(argv[1], "--write-wav")) return WriteWav(argv[2]);
  const char* windowName = "Jostlepad";
  int x = -1, y = -1, pairs = 5, clicks = 8;
  double gapMs = 250, quietMs = 1200, settleMs = 4000;
  float threshold = 0.3f;
  int pipewire = 0;
  double loadSeconds = 0;
  int slotX[16], slotY[16], slots = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const char* o = argv[i];
    const char* v = argv[i + 1];
    if (!strcmp(o, "--window")) windowName = v;
    else if (!strcmp(o, "--x")) x = atoi(v);
    else if (!strcmp(o, "--y")) y = atoi(v);
    else if (!strcmp(o, "--pairs")) pairs = atoi(v);
    else if (!strcmp(o, "--gap-ms")) gapMs = atof(v);
    else if (!strcmp(o, "--quiet-ms")) quietMs = atof(v);
    else if (!strcmp(o, "--settle-ms")) settleMs = atof(v);
    else if (!strcmp(o, "--threshold")) threshold = (float)atof(v);
    else if (!strcmp(o, "--clicks")) clicks = atoi(v);
    else if (!strcmp(o, "--recorder")) pipewire = !strcmp(v, "pipewire");
    else if (!strcmp(o, "--load")) loadSeconds = atof(v);
    else if (!strcmp(o, "--slots")) {
      for (const char* at = v; slots < 16 && sscanf(at, "%d,%d", &slotX[slots], &slotY[slots]) == 2; ++slots) {
        at = strchr(at, ' ');
        if (at == NULL) {
          ++slots;
          break;
        }
        ++at;
      }
    }
    else Die("unknown option (see the comment at the top of probe.c)");
  }
  if (loadSeconds > 0 && slots > 0) x = slotX[0], y = slotY[0];
  if (x < 0 || y < 0 || pairs < 1 || 2 * pairs > kMaxPresses || clicks < 1 || clicks > kMaxClicks / 2)
    Die("--x and --y are needed; --pairs 1..256, --clicks 1..32");

  Display* display = XOpenDisplay(NULL);
  if (display == NULL) Die("no X display");
  int eventBase, errorBase, major, minor;
  if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) Die("the X server has no XTest");
  Window window = 0;
  for (int tries = 0; tries < 300 && window == 0; ++tries) {
    window = FindWindow(display, DefaultRootWindow(display), windowName);
    if (window == 0) SleepMs(100);
  }
  if (window == 0) Die("the program's window did not appear");
  SleepMs(settleMs);  /* the program's start-up, until its Home page takes taps */
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
  const int originX = rootX - x, originY = rootY - y;

  loop = pa_threaded_mainloop_new();
  context = pa_context_new(pa_threaded_mainloop_get_api(loop), "latency probe");
  pa_context_set_state_callback(context, OnContextState, NULL);
  if (pa_context_connect(context, NULL, PA_CONTEXT_NOFLAGS, NULL) < 0) Die("no sound server");
  pa_threaded_mainloop_lock(loop);
  pa_threaded_mainloop_start(loop);
  for (;;) {
    pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) break;
    if (!PA_CONTEXT_IS_GOOD(state)) Die("cannot connect to the sound server");
    pa_threaded_mainloop_wait(loop);
  }
  pa_stream* recorder = NULL;
  if (pipewire) {
    StartPipeWireRecording();
  } else {
    recorder = StartRecording();
    PlayClicks(clicks);
  }

  if (loadSeconds > 0) {
    pa_threaded_mainloop_unlock(loop);
    size_t firstFrame = 0, lastFrame = 0;
    int pressed = 0;
    const double start = NowUs(), stepMs = 100.0 / slots;
    for (double next = start; next < start + loadSeconds * 1e6; next += stepMs * 1000) {
      double wait = (next - NowUs()) / 1000;
      if (wait > 0) SleepMs(wait);
      int slot = pressed % slots;
      XTestFakeMotionEvent(display, -1, originX + slotX[slot], originY + slotY[slot], CurrentTime);
      XTestFakeButtonEvent(display, 1, True, CurrentTime);
      XTestFakeButtonEvent(display, 1, False, CurrentTime);
      XFlush(display);
      if (++pressed == slots * 5) firstFrame = RecordedFrames();  /* every slot sounding */
    }
    SleepMs(300);
    lastFrame = RecordedFrames();
    EndRun(pipewire, recorder, display, 0);
    /* The recorder lags the sink: the last 300 ms may be the sounds' end. */
    size_t end = lastFrame > (size_t)kRate * 3 / 5 ? lastFrame - kRate * 3 / 5 : 0;
    double longest = 0;
    int dropouts = CountDropouts(firstFrame, end, &longest);
    /* A cycle the recorder missed would read as no dropout at all, and one it
     * got late as a jump in its cycles' times: both are told. */
    int gaps = 0;
    for (size_t c = 1; c < cycles; ++c) {
      double expected = (cycleFrame[c] - cycleFrame[c - 1]) * 1e6 / kRate;
      if (cycleFrame[c] > firstFrame && cycleFrame[c] < end && fabs(cycleUs[c] - cycleUs[c - 1] - expected) > 1000) ++gaps;
    }
    printf("load presses=%d seconds=%.1f dropouts=%d longest_ms=%.1f", pressed, (end - firstFrame) / (double)kRate,
           dropouts, longest);
    if (pipewire) printf(" recorder_gaps=%d", gaps);
    printf("\n");
    return 0;
  }

  static double pressUs[kMaxPresses];
  static size_t pressFrameAt[kMaxPresses];
  int presses = 0;
  pa_threaded_mainloop_unlock(loop);
  XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
  XSync(display, False);
  SleepMs(quietMs);
  for (int p = 0; p < pairs; ++p) {
    for (int k = 0; k < 2; ++k) {
      pressFrameAt[presses] = RecordedFrames();
      pressUs[presses] = NowUs();
      XTestFakeButtonEvent(display, 1, True, CurrentTime);
      XFlush(display);
      ++presses;
      SleepMs(40);
      XTestFakeButtonEvent(display, 1, False, CurrentTime);
      XFlush(display);
      SleepMs(k == 0 ? gapMs - 40 : quietMs);
    }
  }
  if (pipewire) SleepMs(200);  /* the last sound's way through the graph */
  EndRun(pipewire, recorder, display, clicks);

  /* The recording's clock: a straight line through the clicks' predicted
   * play times against their frames. A null sink's clock may run a little
   * off the system's (0.1 % has been seen), so the slope is fitted too. */
  double usPerFrame = 0, offset = 0;
  if (pipewire) {
    if (cycles == 0) Die("nothing was recorded");
    printf("calibration cycles=%zu\n", cycles);
  } else {
  double fx[kMaxClicks], fy[kMaxClicks];
  int found = 0;
  for (int k = 0; k < clickCount; ++k) {
    /* Heard after it was written, and before the next one is. */
    size_t edge = FindEdge(clickFrameAt[k], clickFrameAt[k] + kRate / 4, 0.5f);
    if (edge == (size_t)-1) continue;
    fx[found] = (double)edge;
    fy[found++] = clickPredictedUs[k];
  }
  if (found < 4) Die("the calibration clicks were not found in the recording");
  double mx = 0, my = 0, sxx = 0, sxy = 0;
  for (int k = 0; k < found; ++k) mx += fx[k] / found, my += fy[k] / found;
  for (int k = 0; k < found; ++k) sxx += (fx[k] - mx) * (fx[k] - mx), sxy += (fx[k] - mx) * (fy[k] - my);
  usPerFrame = sxy / sxx;
  offset = my - usPerFrame * mx;
  double worst = 0;
  for (int k = 0; k < found; ++k) worst = fmax(worst, fabs(offset + usPerFrame * fx[k] - fy[k]));
  printf("calibration clicks=%d/%d rate=%.1f worst_ms=%.2f\n", found, clickCount, 1e6 / usPerFrame, worst / 1000);
  }

  double quiet[kMaxPresses], busy[kMaxPresses];
  int nQuiet = 0, nBusy = 0, missed = 0, early = 0;
  for (int i = 0; i < presses; ++i) {
    /* Search from a little before the press: the frame count at the press
     * lags the sink by the recorder's buffering. */
    size_t from = pressFrameAt[i] > (size_t)kRate / 2 ? pressFrameAt[i] - kRate / 2 : 0;
    size_t to = i + 1 < presses ? pressFrameAt[i + 1] + kRate / 2 : recordedFrames;
    size_t edge = (size_t)-1;
    for (size_t at = from; (at = FindEdge(at, to, threshold)) != (size_t)-1; ++at) {
      double t = FrameUs(at, pipewire, offset, usPerFrame);
      if (t >= pressUs[i]) {
        edge = at;
        break;
      }
    }
    const char* kind = i % 2 == 0 ? "quiet" : "playing";
    /* Found inside an edge that began before the press: the recording's
     * times are off for this one (a calibration that missed); told apart. */
    if (edge != (size_t)-1 && edge > 0 && recorded[edge - 1] > threshold) {
      printf("early %d %s\n", i + 1, kind);
      ++early;
      continue;
    }
    if (edge == (size_t)-1) {
      printf("missed %d %s\n", i + 1, kind);
      ++missed;
      continue;
    }
    double ms = (FrameUs(edge, pipewire, offset, usPerFrame) - pressUs[i]) / 1000;
    printf("press %d %s %.2f\n", i + 1, kind, ms);
    if (i % 2 == 0) quiet[nQuiet++] = ms;
    else busy[nBusy++] = ms;
  }
  Summary("quiet", quiet, nQuiet);
  Summary("playing", busy, nBusy);
  if (early) printf("summary early=%d\n", early);
  return missed ? 1 : 0;
}
