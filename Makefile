# The two commands the README names, and a few conveniences around them.
# Everything is built with CMake presets under build/.

.PHONY: run run-win32 run-web test fuzz bench walkthroughs build win32 win32-release web package art bootstrap clean

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# The Win32 reader, cross-built; bookc comes from the dev build.
win32: build
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

# The Win32 release for players: build/lanthorn-fell-win32.zip, holding the
# optimised, stripped reader and a read-me.
win32-release: win32
	@cmake --build --preset win32 --target win32-release

# The browser reader, built with Emscripten into build/web (a static site);
# bookc comes from the dev build.
web: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target bookc
	@cmake --preset web >/dev/null
	@cmake --build --preset web

# The Debian package of the Qt reader, optimised and stripped, made by CPack:
# build/package/lanthorn-fell_<version>_<arch>.deb.
package: bootstrap
	@cmake --preset package >/dev/null
	@cmake --build --preset package --target lanthorn-qt
	@cd build/package && cpack

# Opens the reader: the Qt reader here, optimised (the package preset's
# build of it alone, which make test does not need), or the Win32 one under
# Wine.
run: bootstrap
	@cmake --preset package >/dev/null
	@cmake --build --preset package --target lanthorn-qt
	@scripts/run-reader

run-win32: win32
	@scripts/run-reader --win32

# Serves build/web on localhost and prints the address to open.
run-web: web
	@scripts/serve-web

test: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	@ctest --preset dev -j2
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@ctest --preset sanitize -j2
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 --target all win32-release
	@scripts/win32-e2e
	@cmake --preset web >/dev/null
	@cmake --build --preset web
	@scripts/web-e2e

# Every fuzz target of the sanitize build for FUZZ_SECONDS (600) each, from
# its seed corpus and what earlier runs found.
FUZZ_SECONDS ?= 600
fuzz: bootstrap
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@scripts/fuzz $(FUZZ_SECONDS)

bench: bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@build/release/page_bench

# After a deliberate change to the book: one exploration of book/data writes
# a walkthrough per ending (tests/walkthroughs) and the figures in
# book/PLAN.md's last section, and the walkthroughs are replayed for their
# expected output. Read the diff before committing it.
walkthroughs: bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target lanthorn-trace
	@scripts/walkthroughs build/release/lanthorn-trace

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
