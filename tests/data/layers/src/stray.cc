// A file outside every layer.
