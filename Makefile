# The two commands a new user needs: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?=
PACKAGE_DIR ?= build-package

.PHONY: all deps configure build run test package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

# Starts the program in its demo mode (no simulated radios described).
run: build
	env -u QVK740RX_SIM $(BUILD)/bin/k740rx

test: build
	scripts/run-tests $(BUILD)

# The Debian package, built with Debian's tools from a copy of the tree: $(PACKAGE_DIR)/k740rx_*.deb.
package: deps
	scripts/build-package $(PACKAGE_DIR)

clean:
	rm -rf $(BUILD) $(PACKAGE_DIR)
