% The benchmark melody: the 16 measures of the "Ode to Joy" theme in jianpu as
% bench/export_bench.cpp types it (1=C, 4/4), for LilyPond to engrave as the baseline.
\version "2.24.0"
\header {
  title = "欢乐颂"
  tagline = ##f
}
\relative c' {
  \key c \major
  \time 4/4
  e4 e f g | g f e d | c c d e | e4. d8 d2 |
  e4 e f g | g f e d | c c d e | d4. c8 c2 |
  d4 d e c | d e8 f e4 c | d e8 f e4 d | c d g,2 |
  e'4 e f g | g f e d | c c d e | d4. c8 c2 \bar "|."
}
