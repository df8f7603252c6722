// The entry of the layer checks (CMakeLists.txt): each links one room's every object with only
// the rooms below it, and runs nothing.
int main() {
	return 0;
}
