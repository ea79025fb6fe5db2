# Two entry points: `make play` builds and starts the game, `make test` builds with
# sanitizers and runs every test. Both install what is missing first.
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: play test setup build build-test

setup:
	@bash tools/setup.sh

build: setup
	@cmake -S . -B build -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIBLY_TESTS=OFF >/dev/null
	@cmake --build build -j $(JOBS)

play: build
	cd build/run && ./Quibly

build-test: setup
	@cmake -S . -B build-test -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Debug -DQUIBLY_SANITIZE=ON >/dev/null
	@cmake --build build-test -j $(JOBS)

test: build-test
	cd build-test && ctest --output-on-failure -j $(JOBS)
