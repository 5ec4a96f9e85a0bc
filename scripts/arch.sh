# Sourced by the scripts: which Windows architecture Wine can run on this machine.
# 32-bit Wine needs a kernel that runs 32-bit programs natively (some kernels have IA-32 emulation off).
# Emulating it (qemu-user) works but is far too slow for a test suite, so it does not count.
marigold_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The path this kernel allows: i686 where it runs 32-bit programs natively, else the 64-bit twin.
# deps.sh installs 32-bit Wine by this answer.
marigold_native_arch() {
  if [ -n "${MARIGOLD_TEST_ARCH:-}" ]; then echo "$MARIGOLD_TEST_ARCH"; return; fi
  if marigold_i386_through_binfmt; then echo x86_64; return; fi  # they would only run emulated
  if marigold_kernel_runs_i386; then echo i686; else echo x86_64; fi
}

# The path taken once the packages are in: the twin also where 32-bit Wine could not be installed.
marigold_test_arch() {
  local arch
  arch=$(marigold_native_arch)
  if [ "$arch" = i686 ] && [ -z "${MARIGOLD_TEST_ARCH:-}" ] && ! marigold_wine32_installed; then arch=x86_64; fi
  echo "$arch"
}

marigold_wine32_installed() { [ -x /usr/lib/wine/wine ]; }

# Whether binfmt_misc hands 32-bit x86 programs to an interpreter (an emulator, or a refusal).
marigold_i386_through_binfmt() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    if grep -qs '^enabled' "$entry" && grep -qs '^magic 7f454c4601010100000000000000000002000300' "$entry"; then
      return 0
    fi
  done
  return 1
}

# Asks the kernel itself, with a 32-bit program that only exits, so that the answer is there before
# any 32-bit package (Wine's, or the C library it needs) is installed. Needs binutils.
marigold_kernel_runs_i386() {
  local dir status=1
  dir=$(mktemp -d "${TMPDIR:-/tmp}/marigold-i386.XXXXXX")
  printf '.globl _start\n_start:\n  movl $1, %%eax\n  xorl %%ebx, %%ebx\n  int $0x80\n' >"$dir/exit.s"
  if as --32 -o "$dir/exit.o" "$dir/exit.s" 2>/dev/null && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null; then
    "$dir/exit" 2>/dev/null && status=0
  fi
  rm -rf "$dir"
  return $status
}

# Runs a command of the 64-bit twin as on a kernel that runs no 32-bit programs, also where this one
# does: in a private namespace that refuses them (only the emulated install registers its emulator,
# in a namespace of its own). Prefixes made there lack what Wine's 32-bit half would add, as they do
# on such a kernel. Without private namespaces (Linux before 6.7) the command runs as it is, and says so.
marigold_run_as_twin() {
  local refuse=(/usr/bin/python3 "$marigold_scripts/private_namespace.py" --i386 refuse)
  if marigold_kernel_runs_i386; then
    if "${refuse[@]}" true 2>/dev/null; then "${refuse[@]}" "$@"; return; fi
    echo "Warning: no private namespace on this kernel: the 64-bit twin runs where 32-bit programs run too."
  fi
  "$@"
}
