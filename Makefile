# The two commands of the project are `make run` and `make test`; both install what is
# missing first. `make bench` and `make screenshots` are for measuring and looking.
BUILD    := build
BOOT     := scripts/bootstrap.sh
WINERUN  := scripts/wine-run
JOBS     ?= $(shell nproc)

# The Wine prefix lives in the build folder, so every build folder has a registry of its own.
export VELDAR_BUILD_DIR := $(abspath $(BUILD))

.PHONY: all build run test bench screenshots clean bootstrap

all: build

bootstrap:
	@$(BOOT)

$(BUILD)/build.ninja: | bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-launcher $(BUILD)

test: build
	$(WINERUN) --session ctest --test-dir $(BUILD) --output-on-failure -j 2 --timeout 600

bench: build
	$(WINERUN) --session bash $(BUILD)/bench-driver.sh

screenshots: build
	$(WINERUN) --session scripts/screenshots $(BUILD) screenshots

clean:
	rm -rf $(BUILD)
