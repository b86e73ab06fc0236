// Anchor so that the support library always has a source.
