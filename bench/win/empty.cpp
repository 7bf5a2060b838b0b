// A console program that does nothing: what starting and ending a process
// costs under Wine, to take away from figures that include it.
int main() { return 0; }
