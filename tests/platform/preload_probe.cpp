extern "C" int kivo_preload_probe() {
    return 1;
}
