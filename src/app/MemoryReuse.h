#pragma once

// Start-up decodes many large buffers (pictures, their mipmap levels, the
// music), frees most of them and keeps the textures made from them. Where
// touching fresh memory for the first time is dear, as in a virtual
// machine, a freed buffer is better kept for the next one than handed back
// to the system: this tells the allocator so, before anything is allocated.
void KeepFreedMemoryForReuse();

// Hands what is free back to the system: after a rebuild of the show, the
// old show's memory (the new one was built beside it) would otherwise stay
// held for good.
void ReturnFreedMemory();
