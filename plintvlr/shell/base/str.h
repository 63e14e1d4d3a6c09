#pragma once
// Texts of the string table without the caller owning memory.

// The text of entry `id` in the next of eight rotating buffers of 255
// characters: at most 254 characters, nul-ended; an id the table lacks gives
// an empty text. A result stays valid until seven further calls have been
// made, so up to eight results may be used at once (text, caption and file
// name of one call); keep a copy of a text that must live longer.
char* Str(int id);

// The next Str fills the first buffer again.
void ResetStrBuffers();
