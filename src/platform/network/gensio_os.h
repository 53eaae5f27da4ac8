#pragma once

struct gensio_os_funcs;

namespace zr {

// gensio's operating-system layer for this process, set up on first use; nothing when it
// cannot be had. Every network line's service thread waits in it.
gensio_os_funcs* GensioOs();

// Readies the calling thread to wait in gensio: the wake signal gensio uses between threads
// is held back except while it waits.
void BecomeGensioThread();

}  // namespace zr
