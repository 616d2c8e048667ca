// The benchmarks share one running plug-in with all five panels; bench_main
// starts it before the first benchmark and stops it after the last.
#ifndef DROVANEL_BENCH_BENCH_SESSION_H
#define DROVANEL_BENCH_BENCH_SESSION_H

namespace drovanel {
namespace bench {

// Lenses bound from the sample layout when the session started.
int boundLenses();

// The host keeps every log byte, dataref write and command; benchmarks
// empty those records now and then so they do not grow for ever.
void trimHostRecords();

}  // namespace bench
}  // namespace drovanel

#endif
