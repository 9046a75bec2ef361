# Les deux commandes d'entrée : make run et make test.
CONSTRUCTION ?= build
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build paquets configure format fuzz bench clean deb

paquets:
	@manquants=$$(grep -v '^#' paquets-debian.txt | grep -v '^$$' | while read p; do \
		dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q 'install ok installed' || echo "$$p"; done); \
	if [ -n "$$manquants" ]; then \
		echo "Installation des paquets manquants :" $$manquants; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$manquants; \
	fi

configure: paquets
	@[ -f $(CONSTRUCTION)/CMakeCache.txt ] || cmake -S . -B $(CONSTRUCTION) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(CONSTRUCTION) -j $(JOBS)

run: build
	@mkdir -p $(CONSTRUCTION)/demo
	@if [ -f exemples/demo.xls ] && [ ! -f $(CONSTRUCTION)/demo/demo.xls ]; then cp exemples/demo.xls $(CONSTRUCTION)/demo/; fi
	cd $(CONSTRUCTION)/demo && ../bin/zarvoedit

test: build
	cd $(CONSTRUCTION) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Paquet Debian zarvoedit_VERSION_ARCH.deb dans $(CONSTRUCTION)/.
deb: build
	cd $(CONSTRUCTION) && cpack -G DEB

bench: build
	@for b in $(CONSTRUCTION)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	@git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

# Fuzz du lecteur de classeur (clang, libFuzzer) : make fuzz DUREE=600 (secondes).
# Les entrées nouvelles vont dans build-fuzz/corpus, les plantages dans fuzz/plantages/.
DUREE ?= 60
fuzz: paquets
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
		-DZARVO_FUZZ=ON -DZARVO_TESTS=OFF -DZARVO_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_classeur
	@mkdir -p build-fuzz/corpus fuzz/plantages
	build-fuzz/bin/fuzz_classeur -max_total_time=$(DUREE) -print_final_stats=1 \
		-artifact_prefix=fuzz/plantages/ build-fuzz/corpus fuzz/corpus

clean:
	rm -rf $(CONSTRUCTION)
