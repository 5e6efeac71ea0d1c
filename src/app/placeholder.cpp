// The window arrives with its own sources.
