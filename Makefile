# Kivo Player: set up, build, run and test on Debian 12.
BUILD    ?= build
SANITIZED_BUILD ?= build-sanitized
COVERAGE_BUILD ?= build-coverage
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
        desktop-file-utils libxml2-utils shared-mime-info dbus dbus-daemon appstream qt6-wayland python3-pyatspi at-spi2-core

.PHONY: all deps configure build run test test-sanitized coverage bench fuzz format clean install uninstall

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
	# Line tables only (-g1): backtraces keep file and line, and the build takes a third less time.
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

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

# The plain build: unit, widget, bus, integration, video-window, install and
# end-to-end tests.
test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Unit, widget and video-window tests and the kept fuzz inputs, built with
# AddressSanitizer and UndefinedBehaviorSanitizer in a tree of their own.
test-sanitized: deps
	cmake -S . -B $(SANITIZED_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	    -DKIVO_SANITIZE=ON -DKIVO_BENCH=OFF
	cmake --build $(SANITIZED_BUILD) -j $(JOBS)
	cd $(SANITIZED_BUILD) && ctest --output-on-failure -j $(JOBS)

# Every test group on a build with coverage counters, then a summary of the
# lines and branches of src/ that the tests reach. Test failures are shown
# but do not stop the summary.
coverage: deps
	@command -v gcovr >/dev/null || { $(SUDO) apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends gcovr; }
	cmake -S . -B $(COVERAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIVO_COVERAGE=ON -DKIVO_BENCH=OFF
	cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	-cd $(COVERAGE_BUILD) && ctest --output-on-failure -j $(JOBS)
	gcovr -r . --object-directory $(COVERAGE_BUILD) --filter 'src/' \
	    --exclude-throw-branches --exclude-unreachable-branches -j $(JOBS) \
	    --txt $(COVERAGE_BUILD)/coverage.txt --print-summary

bench: deps build
	cmake --build $(BUILD) -j $(JOBS) --target kivo_bench kivo_floor_window kivo_floor_engine
	./$(BUILD)/kivo_bench
	@for script in bench/*.sh; do [ -f "$$script" ] && bash "$$script" ./$(BUILD)/kivo-player; done; true

FUZZERS := playlist_reader_fuzz m3u_reader_fuzz tag_reader_fuzz settings_file_fuzz settings_export_fuzz command_line_fuzz drop_fuzz
FUZZ_TIME ?= 30

# Each fuzz target for FUZZ_TIME seconds, starting from the inputs kept in
# tests/fuzz/corpus; what it finds grows $(FUZZ_BUILD)/corpus. An input that
# breaks a target is written to $(FUZZ_BUILD)/found: copy it into the
# target's folder in tests/fuzz/corpus once the fault is fixed, and
# make test-sanitized replays it from then on.
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DKIVO_FUZZ=ON -DKIVO_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZERS)
	mkdir -p $(FUZZ_BUILD)/found
	set -e; for f in $(FUZZERS); do \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$f; \
	    echo "== $$f"; \
	    ./$(FUZZ_BUILD)/tests/fuzz/$$f -max_total_time=$(FUZZ_TIME) -timeout=1 -rss_limit_mb=2048 \
	        -artifact_prefix=$(FUZZ_BUILD)/found/$$f- -print_final_stats=1 \
	        $(FUZZ_BUILD)/corpus/$$f tests/fuzz/corpus/$$f; \
	done

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
	rm -rf $(BUILD) $(SANITIZED_BUILD) $(COVERAGE_BUILD) $(FUZZ_BUILD)
