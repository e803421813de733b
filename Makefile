# Thin wrapper around scripts/ and CMake.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup build program run test bench asan fuzz monkey screenshots package clean

all: build

setup:
	@scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# What `make run` needs, and nothing more: the program, its pictures and the
# workspace tool.
program: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target vistorel vistorel-workspace

run: program
	@scripts/run $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@scripts/bench $(BUILD)

asan: setup
	cmake -S . -B build-asan -G Ninja -DVISTOREL_ASAN=ON -DVISTOREL_BUILD_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tools/monkey/lsan.supp:print_suppressions=0 \
		ctest --output-on-failure -j $(JOBS) --timeout 600

# The fuzz targets under libFuzzer, FUZZ_SECONDS (default 60) each on both cores.
fuzz:
	@scripts/setup --fuzz
	@scripts/fuzz build-fuzz

# The UI monkey on the sanitizer build, MONKEY_EVENTS (default 100000).
monkey: setup
	@scripts/monkey

screenshots: build
	@scripts/screenshots $(BUILD)

# The Debian package, built in a Release tree of its own.
package:
	@scripts/setup --package
	cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DVISTOREL_BUILD_TESTS=OFF -DVISTOREL_BUILD_BENCH=OFF -DVISTOREL_BUILD_MONKEY=OFF
	cmake --build build-package -j $(JOBS)
	cd build-package && cpack -G DEB
	@echo "package: $$(ls -t $(CURDIR)/build-package/vistorel_*.deb | head -n 1)"

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-package
