// The platform layer is built as one library; its parts live in the files
// beside this one.
