# The two commands of a fresh Debian 12 machine:
#   make run    installs what is missing, builds and starts Ombrivale
#   make test   installs what is missing, builds and runs every test
#               (a normal build and an AddressSanitizer + UBSan build)

JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# ccache, when present, serves every build folder and every checkout of the
# tree: paths below the tree are hashed relative to it.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: run test deps build build-test build-asan bench fuzz format clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./scripts/run-program build

build-test: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" -DOMBRIVALE_VALIDATE=ON \
	  -DOMBRIVALE_WERROR=ON $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build build-test -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DOMBRIVALE_VALIDATE=ON \
	  -DOMBRIVALE_SANITIZE=ON -DOMBRIVALE_WERROR=ON $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)

test: build-test build-asan
	QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build-asan --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBRIVALE_BUILD_BENCH=ON \
	  -DOMBRIVALE_BUILD_TESTS=OFF $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	./scripts/run-benchmarks build-bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-test build-asan build-bench build-fuzz

fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOMBRIVALE_BUILD_FUZZ=ON -DOMBRIVALE_BUILD_TESTS=OFF -DOMBRIVALE_BUILD_UI=OFF $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)
	./scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS)
