# The two commands the README names, and a few conveniences around them.
# Everything is built with CMake presets under build/.

.PHONY: run test bench build bootstrap clean

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# Builds the reader and shows the book. Until a window front end is built,
# this checks the book and prints its opening pages as the reader builds them.
run: build
	@build/dev/bookc book/data
	@build/dev/lanthorn-page book/data 2 3 4

test: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	@ctest --preset dev -j2
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@ctest --preset sanitize -j2

bench: bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@build/release/page_bench

clean:
	rm -rf build
