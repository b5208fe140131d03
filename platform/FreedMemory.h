#pragma once

namespace velomira {

// Gives the pages of freed heap memory back to the system. A recording's pictures,
// decoders and queues are freed in many threads' heaps at once when it closes; without
// this the allocator keeps those pages, scattered between small live blocks, and the
// process grows from recording to recording although it holds no more than before.
void ReturnFreedMemory();

} // namespace velomira
