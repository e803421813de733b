# Thin wrapper around scripts/ and CMake.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup build run test bench asan monkey screenshots clean

all: build

setup:
	@scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@scripts/bench $(BUILD)

asan: setup
	cmake -S . -B build-asan -G Ninja -DVISTOREL_ASAN=ON -DVISTOREL_BUILD_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) --timeout 600

monkey: setup
	@scripts/monkey

screenshots: build
	@scripts/screenshots $(BUILD)

clean:
	rm -rf $(BUILD) build-asan
