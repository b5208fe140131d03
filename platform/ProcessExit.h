#pragma once

namespace velomira {

// Ends the process with `code` once the program's own objects are gone, without running
// the libraries' static destructors. Qt 6.4's PulseAudio engine is such a static: it
// disconnects from the sound server without holding its main loop's lock, racing the
// loop's own thread, which now and then aborts the process on its way out
// ("Assertion '!e->dead' failed at mainloop.c"). Standard streams are flushed first.
[[noreturn]] void EndProcess(int code);

} // namespace velomira
