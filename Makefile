# Front door for building, running and testing Tunebase.
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
FUZZ_DIR  ?= build-fuzz
FUZZ_SECONDS ?= 20
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test asan fuzz bench install package clean

all: build

deps:
	./scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/src/app/tunebase $(ARGS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The whole suite built and run with AddressSanitizer and UBSan.
asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNEBASE_SANITIZE=ON -DTUNEBASE_BUILD_BENCH=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

# Every reader of untrusted bytes under libFuzzer (clang, ASan, UBSan), each
# for FUZZ_SECONDS; findings are kept in $(FUZZ_DIR)/artifacts.
fuzz:
	./scripts/install-deps fuzz
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTUNEBASE_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./fuzz/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench:
	./scripts/install-deps bench
	$(MAKE) build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

install: build
	cmake --install $(BUILD_DIR)

# A Debian package of the programs and their files: $(BUILD_DIR)/tunebase_<version>_amd64.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
