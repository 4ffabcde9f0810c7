# Kivo Player: set up, build, run and test on Debian 12.
BUILD    ?= build
FUZZ_BUILD ?= build-fuzz
JOBS     ?= 2
ARGS     ?=
# Where `make install` puts the player; DESTDIR stages it elsewhere (packaging).
PREFIX   ?= /usr/local
DESTDIR  ?=
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

DEBS := cmake g++ ninja-build pkg-config qt6-base-dev libqt6opengl6-dev libmpv-dev libsdl2-dev \
        googletest libgtest-dev libgmock-dev libbenchmark-dev \
        xvfb xauth xdotool openbox x11-utils imagemagick ffmpeg sox clang libclang-rt-14-dev \
        desktop-file-utils libxml2-utils shared-mime-info dbus dbus-daemon

.PHONY: all deps configure build run test bench fuzz format clean install uninstall

all: build

deps:
	@missing=$$(for p in $(DEBS); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: deps build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "No display found: starting Kivo Player under xvfb-run (a virtual display)."; \
	    xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/kivo-player $(ARGS); \
	else \
	    ./$(BUILD)/kivo-player $(ARGS); \
	fi

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps build
	./$(BUILD)/kivo_bench
	@for script in bench/*.sh; do [ -f "$$script" ] && bash "$$script" ./$(BUILD)/kivo-player; done; true

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DKIVO_FUZZ=ON -DKIVO_BENCH=OFF -DKIVO_SANITIZED_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target playlist_reader_fuzz m3u_reader_fuzz tag_reader_fuzz
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/m3u_corpus $(FUZZ_BUILD)/tag_corpus
	./$(FUZZ_BUILD)/tests/fuzz/playlist_reader_fuzz -max_total_time=30 $(FUZZ_BUILD)/corpus tests/fuzz/seeds
	./$(FUZZ_BUILD)/tests/fuzz/m3u_reader_fuzz -max_total_time=30 $(FUZZ_BUILD)/m3u_corpus tests/fuzz/m3u_seeds
	./$(FUZZ_BUILD)/tests/fuzz/tag_reader_fuzz -max_total_time=30 $(FUZZ_BUILD)/tag_corpus tests/fuzz/tag_seeds

# The program, its launcher, icon and file types; the manifest of what was
# written is $(BUILD)/install_manifest.txt, which `make uninstall` reads.
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target kivo-player
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST="$(BUILD)/install_manifest.txt" -P cmake/Uninstall.cmake

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
