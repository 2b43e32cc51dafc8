sub main {
    my ($even, $odd, $kind) = (0, 0, "");
    for my $i (1 .. 300000) {
        my $rest = $i % 2;
        $even += 1 if $rest == 0;
        $odd += 1 if $rest != 0;
        if ($rest == 0) {
            $kind = "par";
        } else {
            $kind = "impar";
        }
    }
    print "$even $odd $kind\n";
}
main();
