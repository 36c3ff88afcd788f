// Fast path (to be written).
