// Fast paths against the scalar definition (to be written).
