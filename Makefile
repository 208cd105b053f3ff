# The two commands the README names, and a few conveniences around them.
# Everything is built with CMake presets under build/.

.PHONY: run run-win32 test bench build win32 art bootstrap clean

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# The Win32 reader, cross-built; bookc comes from the dev build.
win32: build
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

# Opens the reader: the Qt reader here, or the Win32 one under Wine.
run: build
	@scripts/run-reader

run-win32: win32
	@scripts/run-reader --win32

test: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	@ctest --preset dev -j2
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@ctest --preset sanitize -j2
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32
	@scripts/win32-e2e

bench: bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@build/release/page_bench

# The map of the book: bookc graph writes it in DOT, Graphviz draws it.
book-map: bootstrap
	@scripts/bootstrap graphviz
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target bookc
	@build/dev/bookc graph --output build/book-map.dot book/data
	@dot -Tsvg -o build/book-map.svg build/book-map.dot
	@echo "build/book-map.svg"

# Remakes the pictures, icon-bar faces, icon and sounds under resources/
# from their sources. The results are committed; the build does not need this.
art: bootstrap
	@scripts/make-art

clean:
	rm -rf build
