# The two set-up commands: `make run` and `make test`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_FLAGS ?=

.PHONY: run test bootstrap build test-sanitize clean

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja: CMakeLists.txt | bootstrap
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2 --timeout 300

run: build
	@scripts/run $(BUILD)

test-sanitize: bootstrap
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DTQ_SANITIZE=ON -DTQ_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(SANITIZE_BUILD)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j2 --timeout 600

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
