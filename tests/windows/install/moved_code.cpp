// Linked into a second build of lindle.dll only: 2 KB of filler ahead of all code (.init comes first in .text and is
// always kept), so that every function of that build lies at another offset than in the real one.
__asm__(".section .init,\"x\"\n\t.fill 2048, 1, 0xcc\n\t.text");
