// The support library may be empty of helpers of its own; this keeps it a valid library.
