sub main {
    my $total = 0;
    for my $i (1 .. 1000000) {
        $total += 1;
    }
    print "$total\n";
}
main();
