# Sourced by the scripts: which Windows architecture Wine can run on this machine.
# 32-bit Wine needs a kernel that runs 32-bit programs natively (some kernels have IA-32 emulation off).
# Emulating it (qemu-user) works but is far too slow for a test suite, so it does not count.
marigold_test_arch() {
  if [ -n "${MARIGOLD_TEST_ARCH:-}" ]; then echo "$MARIGOLD_TEST_ARCH"; return; fi
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    if grep -qs '^enabled' "$entry" && grep -qs '^magic 7f454c4601010100000000000000000002000300' "$entry"; then
      echo x86_64; return   # 32-bit programs would only run emulated
    fi
  done
  if marigold_kernel_runs_i386; then echo i686; else echo x86_64; fi
}

# Asks the kernel itself, with a 32-bit program that only exits, so that the answer is there before
# any 32-bit package (Wine's, or the C library it needs) is installed. Needs binutils.
marigold_kernel_runs_i386() {
  local dir status=1
  dir=$(mktemp -d "${TMPDIR:-/tmp}/marigold-i386.XXXXXX")
  printf '.globl _start\n_start:\n  movl $1, %%eax\n  xorl %%ebx, %%ebx\n  int $0x80\n' >"$dir/exit.s"
  if as --32 -o "$dir/exit.o" "$dir/exit.s" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o"; then
    "$dir/exit" 2>/dev/null && status=0
  fi
  rm -rf "$dir"
  return $status
}
