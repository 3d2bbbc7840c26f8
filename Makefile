# The two commands of the project are `make run` and `make test`; both install what is
# missing first. `make bench` and `make screenshots` are for measuring and looking.
BUILD    := build
BOOT     := scripts/bootstrap.sh
WINERUN  := scripts/wine-run
JOBS     ?= $(shell nproc)

# The Wine prefixes live in the build folder: wineprefix for the tests, benches and screenshots,
# each on a private display; user-prefix for `make run` alone (scripts/wine-run).
export VELDAR_BUILD_DIR := $(abspath $(BUILD))

.PHONY: all build run test bench screenshots dist clean bootstrap

all: build

bootstrap:
	@$(BOOT)

# The build folder is for the architecture the tests can run in here (scripts/target-arch);
# where that is not the product's i686, $(BUILD)/i686 builds the 32-bit VELDAR.EXE beside it.
build: bootstrap
	@scripts/configure $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)
	@if [ -d $(BUILD)/i686 ]; then cmake --build $(BUILD)/i686 -j $(JOBS) --target veldar; fi

run: build
	scripts/run-launcher $(BUILD)

test: build
	$(WINERUN) --session ctest --test-dir $(BUILD) --output-on-failure -j 2 --timeout 600

bench: build
	$(WINERUN) --session bash $(BUILD)/bench-driver.sh

screenshots: build
	$(WINERUN) --session scripts/screenshots $(BUILD) screenshots

# The archive for Windows users, dist/VELDAR-<version>.zip, from the 32-bit build: the build
# folder itself, or its i686 folder where the tests run 64-bit. Builds the program and its help
# only, not the tests.
dist: bootstrap
	@scripts/configure $(BUILD)
	cmake --build $$(if [ -d $(BUILD)/i686 ]; then echo $(BUILD)/i686; else echo $(BUILD); fi) -j $(JOBS) --target dist

clean:
	rm -rf $(BUILD)
